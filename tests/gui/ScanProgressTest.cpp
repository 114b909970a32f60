// The progress box passes on only what changed since it was last brought up
// to date; whatever the order of additions, removals, clears and flushes, the
// box then shows exactly the sink's lines.
#include <QPlainTextEdit>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "gui/scan/ScanProgress.h"

namespace orbisk::test {

TEST(ScanProgress, BoxShowsTheLinesAfterEveryFlush) {
    // Steps: "+text" adds a line, "-" deletes the last, "c" clears, "f" flushes.
    struct Case {
        const char* what;
        std::vector<std::string> steps;
        QString shown; // the box after the last step (always a flush)
    };
    const std::vector<Case> cases = {
        {"lines added across flushes", {"+a", "+b", "f", "+c", "f"}, "a\nb\nc"},
        {"sorting line shown then taken away",
         {"+a", "+Uspořádávám ...", "f", "-", "+b", "f"},
         "a\nb"},
        {"line taken away before it was shown", {"+a", "f", "+x", "-", "+b", "f"}, "a\nb"},
        {"every shown line taken away", {"+a", "+b", "f", "-", "-", "f"}, ""},
        {"taken away to nothing, then new lines", {"+a", "f", "-", "+b", "+c", "f"}, "b\nc"},
        {"several shown lines taken away", {"+a", "+b", "+c", "f", "-", "-", "+d", "f"}, "a\nd"},
        {"empty lines kept", {"+", "+a", "f", "+", "+b", "f"}, "\na\n\nb"},
        {"clear, then new lines", {"+a", "f", "c", "+b", "f"}, "b"},
        {"clear after removals", {"+a", "+b", "f", "-", "c", "+z", "f"}, "z"},
        {"delete on an empty sink", {"-", "+a", "f"}, "a"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QPlainTextEdit box;
        TScanProgress progress(box);
        for (const std::string& step : c.steps) {
            if (step[0] == '+') progress.AddLine(step.substr(1));
            if (step == "-") progress.DeleteLastLine();
            if (step == "c") progress.Clear();
            if (step == "f") {
                progress.Flush();
                EXPECT_EQ(box.toPlainText(), progress.Text());
            }
        }
        EXPECT_EQ(box.toPlainText(), c.shown);
    }
}

} // namespace orbisk::test
