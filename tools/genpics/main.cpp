// genpics OUTDIR: writes the console's pictures as the files the Windows
// build embeds (background.bmp, title.bmp, logo.bmp, options.bmp, orvan97.ico).
// The logo is written at the size the console shows it, so the program
// scales nothing at start-up.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

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
    const Picture icon = MakeIcon();
    const bool ok = WriteFile(dir / "background.bmp", EncodeBmp(MakeBackground())) &&
                    WriteFile(dir / "title.bmp", EncodeBmp(MakeTitle())) &&
                    WriteFile(dir / "logo.bmp", EncodeBmp(MakeShownLogo())) &&
                    WriteFile(dir / "options.bmp", EncodeBmp(MakeOptionsHeader())) &&
                    WriteFile(dir / "orvan97.ico", EncodeIco(icon, icon.mask));
    return ok ? 0 : 1;
}
