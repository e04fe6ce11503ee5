#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Every source, build and script file of the project names its licence in its first lines.
cd "$1" || exit 1
missing=$( (find src tests bench fuzz packaging cmake translations \
                 \( -name '*.cpp' -o -name '*.h' -o -name '*.c' -o -name '*.py' -o -name '*.sh' \
                    -o -name '*.cmake' -o -name CMakeLists.txt \) -not -path '*/corpus/*';
            find scripts -type f; echo CMakeLists.txt; echo .ci/run) | while read -r f; do
    head -n 3 "$f" | grep -q 'SPDX-License-Identifier: GPL-3.0-or-later' || echo "$f"
done)
[ -z "$missing" ] && exit 0
echo "without an SPDX-License-Identifier line:"
echo "$missing"
exit 1
