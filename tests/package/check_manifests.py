#!/usr/bin/env python3
"""Checks the winget and Scoop manifests of a release, offline.

    check_manifests.py PACKAGE_DIR

Each manifest must be valid against its publisher's schema (schemas/), and
say what the release really holds: every file of the release has its
installer, of the type that file is (the setup nullsoft, the MSI wix or msi,
the zip a zip holding the portable program), at an address ending in its
name, with the SHA-256 of the file itself. Then the same checks must refuse
broken copies of the manifests (a missing hash, a wrong installer type, a
hash that is not the file's), so a check that passes everything fails here.
"""
import copy
import hashlib
import json
import os
import sys
import zipfile

import jsonschema
import yaml

HERE = os.path.dirname(os.path.abspath(__file__))
SCHEMAS = os.path.join(HERE, "schemas")
IDENTIFIER = "Orvan97.Orvan97"
WINGET = {
    "version": ("{id}.yaml", "manifest.version.1.6.0.json"),
    "installer": ("{id}.installer.yaml", "manifest.installer.1.6.0.json"),
    "defaultLocale": ("{id}.locale.en-US.yaml", "manifest.defaultLocale.1.6.0.json"),
}


def schema_errors(document, schema_file):
    with open(os.path.join(SCHEMAS, schema_file), encoding="utf-8") as f:
        schema = json.load(f)
    validator = jsonschema.validators.validator_for(schema, default=jsonschema.Draft202012Validator)
    return ["%s: %s at %s" % (schema_file, e.message, "/".join(map(str, e.path)) or "the top")
            for e in validator(schema).iter_errors(document)]


def sha256(path):
    with open(path, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()


def expected_type(name):
    if name.endswith("-setup.exe"):
        return {"nullsoft"}
    if name.endswith(".msi"):
        return {"wix", "msi"}
    if name.endswith(".zip"):
        return {"zip"}
    return set()


def release_files(package_dir):
    return sorted(n for n in os.listdir(package_dir) if n.endswith((".exe", ".msi", ".zip")))


def check_download(package_dir, where, url, digest, errors):
    """The file the address names, when it is one of the release's."""
    name = (url or "").rsplit("/", 1)[-1]
    path = os.path.join(package_dir, name)
    if not url or not os.path.isfile(path):
        errors.append("%s: %r names no file of the release" % (where, url))
        return None
    if not digest:
        errors.append("%s: no SHA-256 for %s" % (where, name))
    elif digest.lower() != sha256(path):
        errors.append("%s: the SHA-256 %s is not that of %s" % (where, digest, name))
    return name


def check_zip_holds(package_dir, name, member, where, errors):
    with zipfile.ZipFile(os.path.join(package_dir, name)) as z:
        if member not in z.namelist():
            errors.append("%s: %s holds no %s" % (where, name, member))


def check_winget(package_dir, documents):
    errors = []
    for kind, (_, schema_file) in WINGET.items():
        errors += ["winget %s: %s" % (kind, e) for e in schema_errors(documents[kind], schema_file)]
    versions = {(d.get("PackageIdentifier"), d.get("PackageVersion")) for d in documents.values()}
    if len(versions) != 1:
        errors.append("winget: the three files name different packages or versions: %s" % sorted(versions))
    covered = set()
    for i, installer in enumerate(documents["installer"].get("Installers") or []):
        where = "winget installer %d" % (i + 1)
        name = check_download(package_dir, where, installer.get("InstallerUrl"), installer.get("InstallerSha256"),
                              errors)
        if not name:
            continue
        covered.add(name)
        kind = installer.get("InstallerType") or documents["installer"].get("InstallerType")
        if kind not in expected_type(name):
            errors.append("%s: %s is no %s installer" % (where, name, kind))
        if kind == "zip":
            if installer.get("NestedInstallerType") != "portable":
                errors.append("%s: the zip's nested installer is not portable" % where)
            for nested in installer.get("NestedInstallerFiles") or [{}]:
                check_zip_holds(package_dir, name, nested.get("RelativeFilePath"), where, errors)
    for name in release_files(package_dir):
        if name not in covered:
            errors.append("winget: no installer for %s" % name)
    return errors


def check_scoop(package_dir, manifest):
    errors = ["scoop: " + e for e in schema_errors(manifest, "scoop.schema.json")]
    name = check_download(package_dir, "scoop", manifest.get("url"), manifest.get("hash"), errors)
    if name:
        if not name.endswith(".zip"):
            errors.append("scoop: %s is not the portable zip" % name)
        else:
            check_zip_holds(package_dir, name, manifest.get("bin"), "scoop", errors)
    return errors


def load(package_dir):
    documents = {}
    for kind, (pattern, _) in WINGET.items():
        with open(os.path.join(package_dir, "winget", pattern.format(id=IDENTIFIER)), encoding="utf-8") as f:
            documents[kind] = yaml.safe_load(f)
    with open(os.path.join(package_dir, "scoop", "orvan97.json"), encoding="utf-8") as f:
        scoop = json.load(f)
    return documents, scoop


def installer_of(documents, suffix):
    for installer in documents["installer"]["Installers"]:
        if installer["InstallerUrl"].endswith(suffix):
            return installer
    raise KeyError("no installer for *" + suffix)


def broken_copies(documents, scoop):
    """(what is broken, winget documents, scoop manifest) that must be refused."""
    def winget(change):
        broken = copy.deepcopy(documents)
        change(broken)
        return broken

    def scoop_with(change):
        broken = copy.deepcopy(scoop)
        change(broken)
        return broken

    def flip(digest):
        return ("0" if digest[0] != "0" else "1") + digest[1:]

    yield ("the MSI's hash missing", winget(lambda d: installer_of(d, ".msi").pop("InstallerSha256")), scoop)
    yield ("the setup typed exe", winget(lambda d: installer_of(d, "-setup.exe").update(InstallerType="exe")), scoop)
    yield ("the MSI typed nullsoft", winget(lambda d: installer_of(d, ".msi").update(InstallerType="nullsoft")), scoop)
    yield ("the zip's hash not the file's",
           winget(lambda d: installer_of(d, ".zip").update(InstallerSha256=flip(installer_of(d, ".zip")["InstallerSha256"]))),
           scoop)
    yield ("the setup left out", winget(lambda d: d["installer"]["Installers"].remove(installer_of(d, "-setup.exe"))),
           scoop)
    yield ("Scoop's hash missing", documents, scoop_with(lambda s: s.pop("hash")))
    yield ("Scoop's hash not the file's", documents, scoop_with(lambda s: s.update(hash=flip(s["hash"]))))


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: check_manifests.py PACKAGE_DIR")
    package_dir = sys.argv[1]
    documents, scoop = load(package_dir)
    errors = check_winget(package_dir, documents) + check_scoop(package_dir, scoop)
    for e in errors:
        print("manifests: " + e, file=sys.stderr)
    missed = []
    for what, broken_winget, broken_scoop in broken_copies(documents, scoop):
        if not (check_winget(package_dir, broken_winget) + check_scoop(package_dir, broken_scoop)):
            missed.append(what)
    for what in missed:
        print("manifests: a broken copy passed the checks: " + what, file=sys.stderr)
    if errors or missed:
        sys.exit(1)
    print("manifests: winget (%d installers) and Scoop valid against their schemas and the files; "
          "every broken copy refused" % len(documents["installer"]["Installers"]))


if __name__ == "__main__":
    main()
