// genpics OUTDIR: writes the console's pictures as the files the Windows
// build embeds, for each scale the program has pictures for: background.bmp,
// title.bmp, logo.bmp and options.bmp at 96 DPI, the same names with _120,
// _144 and _192 at 125, 150 and 200 %, and orvan97.ico with an image for
// each. The logo is written at the size the console shows it, so the
// program scales nothing at start-up.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

#include "pictures/bitmap_file.h"
#include "pictures/pictures.h"

namespace {

bool WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    if (bytes.empty()) {
        std::fprintf(stderr, "genpics: nothing to write for %s\n", path.string().c_str());
        return false;
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "genpics: cannot write %s\n", path.string().c_str());
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: genpics OUTDIR\n");
        return 2;
    }
    const std::filesystem::path dir(argv[1]);
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec) {
        std::fprintf(stderr, "genpics: cannot create %s: %s\n", dir.string().c_str(), ec.message().c_str());
        return 1;
    }
    using namespace orvan::pictures;
    bool ok = true;
    std::vector<Picture> icons;
    for (const int dpi : orvan::ui::kPictureDpis) {
        const std::string suffix = dpi == orvan::ui::kBaseDpi ? "" : "_" + std::to_string(dpi);
        ok = ok && WriteFile(dir / ("background" + suffix + ".bmp"), EncodeBmp(MakeBackground(dpi))) &&
             WriteFile(dir / ("title" + suffix + ".bmp"), EncodeBmp(MakeTitle(dpi))) &&
             WriteFile(dir / ("logo" + suffix + ".bmp"), EncodeBmp(MakeShownLogo(dpi))) &&
             WriteFile(dir / ("options" + suffix + ".bmp"), EncodeBmp(MakeOptionsHeader(dpi)));
        icons.push_back(MakeIcon(dpi));
    }
    ok = ok && WriteFile(dir / "orvan97.ico", EncodeIco(icons));
    return ok ? 0 : 1;
}
