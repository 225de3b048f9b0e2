#!/usr/bin/env bash
# The installed tree, as a user gets it from `cmake --install BUILD --prefix DIR`: installed into
# a temporary prefix, it must run on its own (rmsfit found through libexec/quillmark, nothing
# taken from the build tree), with man pages that render, a bash completion that completes and
# a valid desktop entry.
#
#   installed_tree_test.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
prefix=$(mktemp -d)
work=$(mktemp -d)
trap 'rm -rf "$prefix" "$work"' EXIT
fail() { echo "installed tree: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" > /dev/null
cli=$prefix/bin/quillmark-cli
[[ -x $prefix/libexec/quillmark/rmsfit ]] || fail "rmsfit is not in libexec/quillmark"
[[ ! -e $prefix/bin/rmsfit ]] || fail "rmsfit must not be in bin"

"$cli" --version | grep -q "^quillmark-cli [0-9]" || fail "--version"
# A failed run says why in one line on stderr and nothing on stdout.
set +e
out=$("$cli" -q line-extract --input "$work/gone" --output "$work/o" --start 1 --every 1 2> "$work/err")
status=$?
set -e
[[ $status == 1 && -z $out && $(< "$work/err") == \
   "quillmark-cli line-extract: $work/gone: File not found (error 53)" ]] || fail "error line"

# Every man page renders without a warning; the window program has its own page.
pages=("$prefix"/share/man/man1/quillmark-cli*.1)
(( ${#pages[@]} >= 2 )) || fail "man pages missing"
[[ ! -e $prefix/bin/quillmark ]] || pages+=("$prefix/share/man/man1/quillmark.1")
for page in "${pages[@]}"; do
    [[ -s $page ]] || fail "$(basename "$page") is missing"
    text=$(MANWIDTH=80 man --warnings -l "$page" 2> "$work/warnings")
    [[ ! -s $work/warnings ]] || fail "$(basename "$page"): $(cat "$work/warnings")"
    grep -q "quillmark-cli" <<< "$text" || fail "$(basename "$page") renders empty"
done
# The README's lines for a prefix outside the system paths make the page and the completion
# visible: man finds the pages through MANPATH, bash-completion through XDG_DATA_DIRS.
MANPATH="$prefix/share/man:" man -w quillmark-cli | grep -q "^$prefix/" || fail "MANPATH"
[[ -e $prefix/bin/quillmark ]] && { MANPATH="$prefix/share/man:" man -w quillmark |
    grep -q "^$prefix/" || fail "MANPATH of quillmark(1)"; }

# The completion offers subcommands, then each subcommand's options and choices.
completes() {
    bash -c 'source "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); _quillmark_cli
             echo "${COMPREPLY[*]}"' _ "$prefix/share/bash-completion/completions/quillmark-cli" "$@"
}
[[ $(completes quillmark-cli mdcrd) == mdcrd-strip ]] || fail "completion of a subcommand"
[[ $(completes quillmark-cli ev-extract --time-o) == --time-offset ]] || fail "of an option"
[[ $(completes quillmark-cli convert --input-type g9) == "g98 g94" ]] || fail "of a choice"

if [[ -e $prefix/bin/quillmark ]]; then
    desktop-file-validate "$prefix/share/applications/quillmark.desktop" ||
        fail "desktop entry"
    [[ -s $prefix/share/icons/hicolor/scalable/apps/quillmark.svg ]] || fail "icon"
fi

cd "$work"
# A conversion.
printf 'water\n8 0.000 0.000 0.117\n' > mol.xyz
"$cli" -q convert --input mol.xyz --output mol.pdb --input-type xyz --output-type pdb > out
[[ $(cat out) == "Information: Conversion Completed: Conversion Complete" ]] || fail "convert"
[[ $(head -1 mol.pdb) == "ATOM      1  O           1      0.000  0.000  0.117" ]] ||
    fail "the PDB file: $(head -1 mol.pdb)"

# An alignment: three outputs of one structure, fitted onto the first by the installed rmsfit.
for n in 1 2 3; do
    cat > "gap$n.gout" << 'OUTPUT'
 Entering Gaussian System
 Charge =  0 Multiplicity = 1
 C   0.0 0.0 0.0 
 C   1.5 0.0 0.0 
 O   0.0 1.4 0.0 
 H   0.3 0.2 1.1 
 
                    Isotopes and Nuclear Properties:
 Leave Link  101 at Fri
 SCF Done:  E(RB+HF-LYP) =  -539.517603521     A.U. after   14 cycles
 Ground to excited state Transition electric dipole moments (Au):
       state          X           Y           Z          Osc.
         1         0.5000      0.0000      0.0000      0.3000
         2         0.0000      0.0000     -0.4000      0.2000
 Excitation energies and oscillator strengths:
 
 Excited State   1:   Singlet-?Sym    3.5000 eV  354.24 nm  f=0.3000
      23 ->25         0.65000
 
 Excited State   2:   Singlet-?Sym    2.5000 eV  495.94 nm  f=0.2000
      23 ->25         0.65000
 
 Leave Link  914
 Normal termination of Gaussian 03.
OUTPUT
done
echo "topology of the test molecule" > prmtop
"$cli" -q ev-extract --prefix gap --end 3 --root-end 2 --limit-low 0 --limit-high 10 \
    --roots 2 --raw-tdms --rel-tdm > out || fail "alignment: $(cat out)"
[[ $(cat out) == "Information: Processing Finished: Extraction Complete" ]] || fail "alignment"
grep -q "Calling rmsfit.exe" execution_status.dat || fail "rmsfit was not run"
cmp -s transformed_tdm.1.dat raw_tdm.1.dat || fail "the aligned TDMs differ from the raw ones"
echo "installed tree under a temporary prefix: version, manuals, completion, desktop entry," \
     "conversion and alignment all work"
