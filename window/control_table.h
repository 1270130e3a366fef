// The main window "Pro Tagwright" as data: its frame, its fonts and its 22 controls with
// their kinds, texts, places and keyboard order. Each front end builds its controls from
// this table and from nothing else, so both show the same window.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace window {

// The controls of the window, in Tab-index order. The names are the controls' own: the
// handlers, the front ends and the tests all speak of them by these.
enum class ControlId {
    cboComPort,
    Close,
    Open,
    txtCurrentNo,
    cmdWritePrev,
    cmdWriteCard,
    cmdWriteNext,
    opList,
    Combo1,
    txtNoStartAt,
    Label1,
    Label2,
    Frame1,
    cmdRegularizeCardNo,
    cmdRead,
    cmdWrite,
    txt2,
    txt1,
    cmdClose,
    txtCurrentNoFront,
    cmdMinus,
    cmdPlus,
};
inline constexpr std::size_t kControlCount = 22;

enum class Kind {
    ComboBox,  // a drop-down list with an editable text area, unsorted
    Button,    // a push button, caption centred, never the default button
    TextBox,   // a single-line text box
    StatusBox, // the status line: multi-line, wrapping, a vertical scroll bar, editable
    Label,     // left-aligned text, no border
    Frame,     // a group frame with a caption
};

// Positions and sizes are in twips, from the top-left corner of the container's client
// area: 1440 twips to the inch, so 15 twips make a pixel at 96 dots per inch.
struct Twips
{
    int left;
    int top;
    int width;
    int height;
};
inline constexpr int kTwipsPerInch = 1440;

// How the keyboard reaches a control: Tab, only the mouse, or never (labels, the frame and
// the disabled prefix field).
enum class Focus { Tab, Mouse, Never };

enum class Font { Window, Number };

// The entries of a combo box's list.
enum class List { None, Ports, Sites };

struct Control
{
    ControlId id;
    std::string_view name;
    Kind kind;
    bool inFrame;          // one of the developer panel's five controls, placed inside Frame1
    std::string_view text; // caption or initial text
    Twips place;
    Focus focus;
    Font font;
    bool enabled;
    std::size_t maxLength; // 0: no limit
    List list;
    std::string_view accessibleName; // what a screen reader calls it; the text when empty
};

struct FontSpec
{
    std::string_view family;
    // Metric-compatible, where the family itself is missing (Linux without it).
    std::string_view substitute;
    double points;
};

struct WindowSpec
{
    std::string_view caption;
    int clientWidth; // twips
    int clientHeight;
    FontSpec windowFont;
    FontSpec numberFont;
};

extern const WindowSpec kWindow;
extern const std::array<Control, kControlCount> kControls;

const Control &control(ControlId id);
const FontSpec &fontOf(const Control &control);
// The entries of a combo box's list, in order.
std::vector<std::string> listEntries(List list);
// The developer panel's field that shows a card-number word: txt1 word 6, txt2 word 7.
ControlId wordField(uint8_t wordAddress);

// Twips to pixels at a given resolution, rounded to the nearest pixel.
constexpr int pixels(int twips, int dotsPerInch)
{
    return (twips * dotsPerInch + kTwipsPerInch / 2) / kTwipsPerInch;
}

} // namespace window
