# shellcheck shell=bash
# Source this file: reading and judging a Windows program's imports.
#   pe_imports OBJDUMP EXE      every import as dll!Function, the DLL in lower case,
#                               one a line, sorted (dll!#N for one taken by ordinal)
#   pe_import_list FILE         the entries of an allow or deny list: comment lines (#)
#                               and blank lines dropped, sorted
#   pe_denied IMPORTS DENYLIST  the imports that match a deny pattern, as
#                               "import (matches pattern)", one a line

pe_imports() {
    "$1" -p "$2" | awk '
        /^The Import Tables/ { inImports = 1; next }
        inImports && /^[A-Z]/ { inImports = 0 }
        inImports && /DLL Name:/ { dll = tolower($3); next }
        inImports && dll != "" && /^\t[0-9a-f]+\t/ {
            name = ($3 == "<none>" || $3 == "") ? "#" $2 : $3
            print dll "!" name
        }' | LC_ALL=C sort -u
}

pe_import_list() {
    sed -e 's/^[[:space:]]*#.*$//' -e 's/[[:space:]]*$//' -e '/^$/d' "$1" | LC_ALL=C sort -u
}

pe_denied() {
    local imports=$1 denyList=$2 import pattern
    local -a globs=()
    local -A exact=()
    while read -r pattern; do
        case $pattern in
        *[*?[]*) globs+=("$pattern") ;;
        *) exact[$pattern]=1 ;;
        esac
    done < <(pe_import_list "$denyList")
    while read -r import; do
        [ -n "$import" ] || continue
        for pattern in "${globs[@]}"; do
            # shellcheck disable=SC2053 # the pattern is a glob on purpose
            if [[ $import == $pattern ]]; then
                echo "$import (matches $pattern)"
                continue 2
            fi
        done
        if [ -n "${exact[$import]:-}" ]; then
            echo "$import (matches $import)"
        fi
    done <<<"$imports"
}
