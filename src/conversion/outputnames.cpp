// SPDX-License-Identifier: GPL-3.0-or-later
#include "conversion/outputnames.h"

#include "naming/outputnaming.h"

OutputNames::Name OutputNames::take(int row, const QString &path)
{
    Name name{path, rows.value(OutputKey::of(path))};
    for (int n = 2; name.earlierRow != 0; ++n) {
        name.path = OutputNaming::numbered(path, n);
        if (!rows.contains(OutputKey::of(name.path)))
            break;
    }
    rows.insert(OutputKey::of(name.path), row);
    return name;
}
