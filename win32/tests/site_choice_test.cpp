// The site box's choice, fed every order in which the combo box may send the notifications of
// one input (a key, a click); the inputs themselves come in the operator's order.
#include "win32/site_choice.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// What one input makes the site box send, and the entry then selected.
struct Input
{
    std::vector<int> sent;
    int selected;
    bool click = false;
};

// Plays the inputs from the at'th on, each in every order, with the close-up's end after the
// input that closed the list. A failing order prints as the codes sent (1 selchange,
// 7 dropdown, 8 closeup, 9 selendok, 10 selendcancel).
void playEveryOrder(win32::SiteChoice choice, std::vector<Input> inputs, std::size_t at, int ran,
                    int expected, const std::string &order)
{
    if (at == inputs.size()) {
        EXPECT_EQ(ran, expected) << order;
        return;
    }
    Input &input = inputs[at];
    std::ranges::sort(input.sent);
    do {
        win32::SiteChoice next = choice;
        int runs = ran;
        std::string played = order + (input.click ? " | click:" : " |");
        next.clicking(input.click);
        for (const int notification : input.sent) {
            runs += next.notified(notification, input.selected);
            played.append(" ").append(std::to_string(notification));
        }
        next.clicking(false);
        if (std::ranges::count(input.sent, CBN_CLOSEUP) != 0)
            runs += next.listClosed(input.selected);
        playEveryOrder(next, inputs, at + 1, runs, expected, played);
    } while (std::ranges::next_permutation(input.sent).found);
}

TEST(SiteChoice, OnlyAnEntryChosenFromTheListRunsTheSiteSelectionOnceInEveryOrder)
{
    const int change = CBN_SELCHANGE, ok = CBN_SELENDOK, cancel = CBN_SELENDCANCEL,
              up = CBN_CLOSEUP;
    const Input open{{CBN_DROPDOWN}, 0}, down{{change}, 1}, downAgain{{change}, 2};
    const std::pair<std::vector<Input>, int> cases[] = {
        {{{{change, ok}, 1}}, 1},                            // an arrow key, list closed
        {{open, {{change, ok, up}, 2, true}}, 1},            // a click on another entry
        {{open, {{ok, up}, 0, true}}, 1},                    // a click on the same one
        {{open, down, downAgain, {{change, ok, up}, 2}}, 1}, // arrow keys, Return
        {{open, down, downAgain, {{ok, up}, 2}}, 1},         // ... as Wine reports it
        {{open, down, {{change}, 0}, {{ok, up}, 0}}, 0},     // down, up again, Return
        {{open, down, {{change, cancel, up}, 0}}, 0},        // arrow keys, Escape
        {{open, down, {{cancel, up}, 1}}, 0},                // ... as Wine reports it
        {{open, {{ok, up}, 0}}, 0},                          // opened, closed again
        {{open, {{cancel, up}, 0}}, 0},                      // ... or closed by a click away
    };
    // Each case after each other one: a choice leaves nothing behind for the next.
    for (const auto &[first, firstRuns] : cases) {
        for (const auto &[inputs, runs] : cases) {
            std::vector<Input> both = first;
            both.insert(both.end(), inputs.begin(), inputs.end());
            playEveryOrder({}, both, 0, 0, firstRuns + runs, "");
        }
    }
}

} // namespace
