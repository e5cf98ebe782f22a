// The display-format language: the input's first line is a column's format text, the rest a
// cell. Any pair is shown without a crash; an inactive format and an empty cell show the cell as
// it stands.
#include "fuzz/FuzzCheck.h"
#include "window/DisplayFormat.h"

using namespace xhook;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString input = fuzz::inputText(data, size);
    const qsizetype split = input.indexOf(QLatin1Char('\n'));
    const QString formatText = split < 0 ? input : input.left(split);
    const QString cell = split < 0 ? QString() : input.mid(split + 1);
    const DisplayFormat format(formatText);
    const QString shown = format.apply(cell);
    if (!format.isActive()) fuzz::check(shown == cell, "no format: the cell as it stands");
    if (cell.isEmpty()) fuzz::check(shown.isEmpty(), "an empty cell stays empty");
    format.apply(formatText);
    return 0;
}
