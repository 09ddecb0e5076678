#!/usr/bin/env python3
"""Writes the package managers' manifests of a release from its SHA256SUMS.

    manifests.py --package-dir DIR --version 1.01 --msi-version 1.01.3 \
                 --product-code {GUID} --upgrade-code {GUID} --base-url URL

DIR holds the release (the setup, the MSI, the zip and SHA256SUMS); the
manifests go to DIR/winget/ (the version, installer and default-locale
files of winget's multi-file manifest 1.6.0) and DIR/scoop/orvan97.json.
Each download address is the base URL, a setting of the release, followed
by the file's name. A file that SHA256SUMS does not list is an error.
"""
import argparse
import json
import os
import re
import sys

import yaml

IDENTIFIER = "Orvan97.Orvan97"
MANIFEST_VERSION = "1.6.0"
PUBLISHER = "The Orvan 97 authors"
SHORT_DESCRIPTION = "A small desktop task launcher for Windows"
# The x86 program is the release; the x64 build is packaged for tests only.
ARCHITECTURES = {"win32": "x86", "win64": "x64"}


def read_sums(path):
    sums = {}
    with open(path, encoding="ascii") as f:
        for line in f:
            digest, name = line.rstrip("\n").split(None, 1)
            sums[name.lstrip("*")] = digest.upper()
    return sums


def write_yaml(path, schema_kind, document):
    header = "# yaml-language-server: $schema=https://aka.ms/winget-manifest.%s.%s.schema.json\n\n" % (
        schema_kind, MANIFEST_VERSION)
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write(header)
        yaml.safe_dump(document, f, sort_keys=False, allow_unicode=True, width=1000)


def main():
    parser = argparse.ArgumentParser()
    for option in ("--package-dir", "--version", "--msi-version", "--product-code", "--upgrade-code", "--base-url"):
        parser.add_argument(option, required=True)
    parser.add_argument("--arch", default="win32", choices=sorted(ARCHITECTURES))
    args = parser.parse_args()

    base = args.base_url.rstrip("/")
    if not base.lower().startswith(("https://", "http://")):
        sys.exit("manifests.py: the base URL must begin with https:// (or http://), not %r" % args.base_url)
    for code in (args.product_code, args.upgrade_code):
        if not re.fullmatch(r"\{[0-9A-F]{8}(-[0-9A-F]{4}){3}-[0-9A-F]{12}\}", code):
            sys.exit("manifests.py: %r is no braced GUID" % code)
    sums = read_sums(os.path.join(args.package_dir, "SHA256SUMS"))
    stem = "orvan97-%s-%s" % (args.version, args.arch)
    setup, msi, zipped = stem + "-setup.exe", stem + ".msi", stem + ".zip"
    for name in (setup, msi, zipped):
        if name not in sums:
            sys.exit("manifests.py: SHA256SUMS has no %s" % name)
    arch = ARCHITECTURES[args.arch]
    common = {"PackageIdentifier": IDENTIFIER, "PackageVersion": args.version}

    winget = os.path.join(args.package_dir, "winget")
    os.makedirs(winget, exist_ok=True)
    write_yaml(os.path.join(winget, IDENTIFIER + ".yaml"), "version", {
        **common, "DefaultLocale": "en-US", "ManifestType": "version", "ManifestVersion": MANIFEST_VERSION})
    write_yaml(os.path.join(winget, IDENTIFIER + ".installer.yaml"), "installer", {
        **common,
        "Installers": [
            {
                "Architecture": arch,
                "InstallerType": "nullsoft",
                "Scope": "machine",
                "InstallerUrl": base + "/" + setup,
                "InstallerSha256": sums[setup],
                "UpgradeBehavior": "install",
            },
            {
                "Architecture": arch,
                "InstallerType": "wix",
                "Scope": "machine",
                "InstallerUrl": base + "/" + msi,
                "InstallerSha256": sums[msi],
                "ProductCode": args.product_code,
                "AppsAndFeaturesEntries": [{
                    "DisplayName": "Orvan 97",
                    "Publisher": PUBLISHER,
                    "DisplayVersion": args.msi_version,
                    "ProductCode": args.product_code,
                    "UpgradeCode": args.upgrade_code,
                }],
            },
            {
                "Architecture": arch,
                "InstallerType": "zip",
                "NestedInstallerType": "portable",
                "NestedInstallerFiles": [{"RelativeFilePath": "orvan97.exe", "PortableCommandAlias": "orvan97"}],
                "InstallerUrl": base + "/" + zipped,
                "InstallerSha256": sums[zipped],
            },
        ],
        "ManifestType": "installer",
        "ManifestVersion": MANIFEST_VERSION,
    })
    write_yaml(os.path.join(winget, IDENTIFIER + ".locale.en-US.yaml"), "defaultLocale", {
        **common,
        "PackageLocale": "en-US",
        "Publisher": PUBLISHER,
        "PackageName": "Orvan 97",
        "License": "MIT",
        "Copyright": "Copyright (c) 2026 " + PUBLISHER,
        "ShortDescription": SHORT_DESCRIPTION,
        "Moniker": "orvan97",
        "ManifestType": "defaultLocale",
        "ManifestVersion": MANIFEST_VERSION,
    })

    scoop = os.path.join(args.package_dir, "scoop")
    os.makedirs(scoop, exist_ok=True)
    with open(os.path.join(scoop, "orvan97.json"), "w", encoding="utf-8", newline="\n") as f:
        json.dump({
            "version": args.version,
            "description": SHORT_DESCRIPTION,
            "license": "MIT",
            "url": base + "/" + zipped,
            "hash": sums[zipped].lower(),
            "bin": "orvan97.exe",
            "shortcuts": [["orvan97.exe", "Orvan 97"]],
        }, f, indent=4)
        f.write("\n")


if __name__ == "__main__":
    main()
