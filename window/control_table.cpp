#include "window/control_table.h"

#include "numbering/card_number.h"
#include "numbering/encoding.h"
#include "reader/reader_link.h"

namespace window {

const WindowSpec kWindow{"Pro Tagwright",
                         10350,
                         6585,
                         {"Times New Roman", "Liberation Serif", 15.75},
                         {"Times New Roman", "Liberation Serif", 20.25}};

namespace {

using enum ControlId;
using enum Kind;
using enum Focus;
constexpr Font W = Font::Window;
constexpr Font N = Font::Number;
constexpr std::size_t kDigits = numbering::kCurrentDigits;

// clang-format off
constexpr std::array<Control, kControlCount> kTable{{
    // id, name, kind, in Frame1, caption or initial text, place, focus, font, enabled,
    // maximum length, list, accessible name
    {cboComPort,          "cboComPort",          ComboBox,  false, "-Select Com Port-", {120, 180, 2895, 465}, Tab, W, true, 0, List::Ports, "Com Port"},
    {Close,               "Close",               Button,    false, "Disconnect",        {7560, 5160, 2550, 585}, Mouse, W, true, 0, List::None, ""},
    {Open,                "Open",                Button,    false, "Connect",           {3060, 180, 1680, 465}, Tab, W, true, 0, List::None, ""},
    {txtCurrentNo,        "txtCurrentNo",        TextBox,   false, "00000",             {8100, 180, 1215, 585}, Tab, N, true, kDigits, List::None, "Current No"},
    {cmdWritePrev,        "cmdWritePrev",        Button,    false, "Write Prev No",     {6840, 1020, 3240, 465}, Tab, W, true, 0, List::None, ""},
    {cmdWriteCard,        "cmdWriteCard",        Button,    false, "Write",             {6840, 1560, 3240, 1185}, Tab, W, true, 0, List::None, ""},
    {cmdWriteNext,        "cmdWriteNext",        Button,    false, "Write Next No",     {6840, 2820, 3240, 765}, Tab, W, true, 0, List::None, ""},
    {opList,              "opList",              StatusBox, false, "",                  {60, 1020, 6615, 2535}, Mouse, W, true, 0, List::None, "Status"},
    {Combo1,              "Combo1",              ComboBox,  false, "-Site Reference-",  {120, 4080, 3075, 465}, Mouse, W, true, 0, List::Sites, "Site Reference"},
    {txtNoStartAt,        "txtNoStartAt",        TextBox,   false, "",                  {4860, 4080, 1875, 465}, Mouse, W, true, 0, List::None, "No Start At"},
    {Label1,              "Label1",              Label,     false, "No Start At",       {3300, 4140, 1575, 375}, Never, W, true, 0, List::None, ""},
    {Label2,              "Label2",              Label,     false, "Current No",        {5280, 300, 1575, 375}, Never, W, true, 0, List::None, ""},
    {Frame1,              "Frame1",              Frame,     false, "Developer",         {120, 4680, 6555, 1815}, Never, W, true, 0, List::None, ""},
    {cmdRegularizeCardNo, "cmdRegularizeCardNo", Button,    true,  "Regularize Card No", {3480, 1140, 2775, 495}, Mouse, W, true, 0, List::None, ""},
    {cmdRead,             "cmdRead",             Button,    true,  "Read",              {3480, 540, 1095, 495}, Mouse, W, true, 0, List::None, ""},
    {cmdWrite,            "cmdWrite",            Button,    true,  "Write",             {4920, 540, 1335, 495}, Mouse, W, true, 0, List::None, ""},
    {txt2,                "txt2",                TextBox,   true,  "",                  {1500, 540, 1695, 375}, Mouse, W, true, 0, List::None, "Word 7"},
    {txt1,                "txt1",                TextBox,   true,  "",                  {240, 540, 1215, 375}, Mouse, W, true, 0, List::None, "Word 6"},
    {cmdClose,            "cmdClose",            Button,    false, "Close",             {7560, 5880, 2550, 525}, Mouse, W, true, 0, List::None, ""},
    {txtCurrentNoFront,   "txtCurrentNoFront",   TextBox,   false, numbering::kPrefix,  {6840, 180, 1215, 585}, Never, N, false, 0, List::None, "Card number prefix"},
    {cmdMinus,            "cmdMinus",            Button,    false, "-",                 {9540, 480, 555, 345}, Mouse, W, true, 0, List::None, ""},
    {cmdPlus,             "cmdPlus",             Button,    false, "+",                 {9540, 120, 555, 345}, Mouse, W, true, 0, List::None, ""},
}};
// clang-format on

constexpr bool inIdOrder(const std::array<Control, kControlCount> &table)
{
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (static_cast<std::size_t>(table[i].id) != i)
            return false;
    }
    return true;
}
static_assert(inIdOrder(kTable), "control(id) looks a control up by its place in the table");

} // namespace

const std::array<Control, kControlCount> kControls = kTable;

const Control &control(ControlId id)
{
    return kControls[static_cast<std::size_t>(id)];
}

const FontSpec &fontOf(const Control &control)
{
    return control.font == Font::Number ? kWindow.numberFont : kWindow.windowFont;
}

std::vector<std::string> listEntries(List list)
{
    std::vector<std::string> entries;
    if (list == List::Ports) {
        for (int position = 0; position < reader::kPortCount; ++position)
            entries.push_back("Com" + std::to_string(reader::portNumber(position)));
    } else if (list == List::Sites) {
        for (const numbering::Site &site : numbering::kSites)
            entries.emplace_back(site.name);
    }
    return entries;
}

ControlId wordField(uint8_t wordAddress)
{
    return wordAddress == numbering::kHighWordAddress ? ControlId::txt1 : ControlId::txt2;
}

} // namespace window
