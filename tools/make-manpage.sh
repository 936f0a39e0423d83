#!/usr/bin/env bash
# Writes the manual page of vesk-cli from the command's own help texts, so
# the page never says anything the program does not:
#   tools/make-manpage.sh VESK-CLI VERSION OUT.1
set -euo pipefail
cli="$1" version="$2" out="$3"

# groff takes a leading dot or quote as a request, and a backslash as an escape.
escape() { sed -e 's/\\/\\e/g' -e "s/^\\([.']\\)/\\\\\\&\\1/"; }

{
    echo ".TH VESK-CLI 1 \"\" \"vesk-cli $version\" \"User Commands\""
    echo ".SH NAME"
    echo "vesk-cli \\- inspect, render, export and import Vesk2.0 documents"
    echo ".SH SYNOPSIS"
    echo ".nf"
    "$cli" --help | sed -n '1p' | sed 's/^usage: //' | escape
    echo ".fi"
    echo ".SH COMMANDS"
    "$cli" --help | sed -n '/^commands:/,/^$/p' | sed '1d;/^$/d' | while read -r name rest; do
        echo ".SS $name"
        echo ".nf"
        "$cli" "$name" --help | escape
        echo ".fi"
    done
    echo ".SH SEE ALSO"
    echo "gerbv(1) shows the Gerber files this command writes; vesk, the editor, draws the documents."
} >"$out.tmp"
mv "$out.tmp" "$out"
