// list_columns.cpp: column widths, header texts, layout, re-stacking and border hit tests.
#include "right/list_columns.hpp"

#include "right/change_column.hpp"

#include <algorithm>

namespace tessaly {

bool ColumnShown(const MapModel& model, int number)
{
    switch (number) {
    case ColumnAddress:
    case ColumnSection:
    case ColumnLabel:
        return true;
    case ColumnEqu:
        return model.ShowEquList;
    case ColumnFunction:
        return model.ShowFunctionList;
    case ColumnChange:
        return model.Baseline != nullptr;
    default:
        return false;
    }
}

std::vector<ColumnSpan> ScreenColumnSpans(const ColumnTable& columns, const MapModel& model, int32_t scrollPx)
{
    std::vector<ColumnSpan> spans;
    for (int number = ColumnAddress; number <= columnCount(columns); ++number)
        if (ColumnShown(model, number)) {
            const ColumnInfo& c = column(columns, number);
            spans.push_back({ number, c.nLeft - scrollPx, c.nRight - scrollPx });
        }
    return spans;
}

int LastShownColumn(const MapModel& model, int count)
{
    for (int number = count; number > ColumnLabel; --number)
        if (ColumnShown(model, number))
            return number;
    return ColumnLabel;
}

const char* ColumnHeaderText(int number, int32_t addressDigits, bool localInformation, bool paper)
{
    switch (number) {
    case ColumnAddress:
        if (addressDigits != 8)
            return "Address(size)";
        return paper ? "  Address(size)" : " Address(  size  )";
    case ColumnSection:
        return localInformation ? "Section(Module)" : "Section";
    case ColumnLabel:
        return "Label:";
    case ColumnEqu:
        return ".EQU";
    case ColumnFunction:
        return "Function(size)";
    case ColumnChange:
        return "Change";
    default:
        return "";
    }
}

std::vector<int32_t> ColumnWidths(const MapModel& model, int32_t cw)
{
    const int32_t d = model.AddressDigits;
    const auto n = ListNameWidths(model);
    const int32_t s = n[NameWidthSection];
    const int32_t sectionChars
        = model.ShowLocalInformation ? std::max(s + n[NameWidthModule] + 6, 15) : std::max(s + 4, 7);
    std::vector<int32_t> widths {
        (2 * d + 3) * cw,
        (sectionChars + 1) * cw + 2,
        (n[NameWidthLabel] + d + 6) * cw,
        model.ShowEquList ? (n[NameWidthEqu] + d + 6) * cw : 0,
        model.ShowFunctionList ? (n[NameWidthFunction] + n[NameWidthFunctionFile] + 2 * d + 9) * cw : 0,
    };
    if (model.Baseline)
        widths.push_back((ChangeColumnChars(model) + 1) * cw);
    return widths;
}

void LayoutColumns(ColumnTable& columns, const std::vector<int32_t>& widths)
{
    columns.resize(std::max(widths.size(), static_cast<size_t>(kColumnCount)));
    int32_t x = 0;
    for (size_t i = 0; i < columns.size(); ++i) {
        ColumnInfo& c = columns[i];
        c.nWidthPx = i < widths.size() ? widths[i] : 0;
        c.nLeft = x;
        c.nRight = x + c.nWidthPx;
        c.nDragX = c.nRight;
        x = c.nRight;
    }
}

void RestackColumns(ColumnTable& columns, bool showEquList)
{
    ColumnInfo& address = column(columns, ColumnAddress);
    address.nRight = address.nDragX;
    int32_t x = address.nRight;
    for (int number : { ColumnSection, ColumnLabel, ColumnEqu }) {
        ColumnInfo& c = column(columns, number);
        c.nLeft = x;
        c.nRight = x + c.nWidthPx;
        x = c.nRight;
    }
    x = column(columns, showEquList ? ColumnEqu : ColumnLabel).nRight;
    for (int number = ColumnFunction; number <= columnCount(columns); ++number) {
        ColumnInfo& c = column(columns, number);
        c.nLeft = x;
        c.nRight = x + c.nWidthPx;
        x = c.nRight;
    }
}

int HitColumnBorder(const ColumnTable& columns, const MapModel& model, int32_t scrollPx, int32_t lineHeight, int32_t x,
    int32_t y, bool onlyShown)
{
    if (y >= lineHeight)
        return ColumnNone;
    for (int number = ColumnAddress; number <= columnCount(columns); ++number) {
        if (onlyShown && !ColumnShown(model, number))
            continue;
        const int32_t border = column(columns, number).nRight - scrollPx;
        if (x > border - 2 && x < border + 2)
            return number;
    }
    return ColumnNone;
}

int32_t ClampDragX(const ColumnTable& columns, int number, int32_t scrollPx, int32_t x)
{
    return std::max(x, column(columns, number).nLeft - scrollPx + 3);
}

void FinishDrag(ColumnTable& columns, int number, int32_t barX, int32_t scrollPx)
{
    ColumnInfo& c = column(columns, number);
    c.nRight = barX + scrollPx;
    c.nDragX = c.nRight;
    c.nWidthPx = c.nRight - c.nLeft;
}

} // namespace tessaly
