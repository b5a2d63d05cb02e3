#!/bin/sh
# The rules (vadmo_core) take what they need as arguments: none of their
# sources may include the screens' data module or its globals. The core is
# what CMakeLists.txt puts there: every source but the UnitN screens, the gui/
# folders and the program mains; Unit2 is the data module itself.
src="$1/src"
bad=$(find "$src" -name '*.cpp' -o -name '*.h' | grep -Ev '/Unit[0-9]+\.(cpp|h)$|/gui/|/guide/|/main\.cpp$|_main\.cpp$' |
      xargs grep -lE '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]([^">]*/)?(Unit2|globals)\.h[">]')
if [ -n "$bad" ]; then
    echo "Core sources including Unit2.h or globals.h:"
    echo "$bad"
    exit 1
fi
count=$(find "$src" -name '*.cpp' | grep -Evc '/Unit[0-9]+\.cpp$|/gui/|/guide/|main\.cpp$')
# A walk that found nothing would pass for the wrong reason.
[ "$count" -gt 20 ] || { echo "only $count core sources found under $src"; exit 1; }
echo "$count core sources, none includes Unit2.h or globals.h"
