#pragma once
// A main window with both search windows, and short ways to run a search,
// read its results and act on them.
#include <QAbstractItemModelTester>
#include <QString>
#include <memory>
#include <string>
#include <vector>

#include "ContentTestSupport.h"
#include "gui/search/SearchWindow.h"
#include "gui/search/TForm_Find3.h"
#include "gui/search/TForm_Find4.h"

namespace orbisk::test {

class SearchTest : public ContentTest {
public:
    void TearDown() override;

    // Creates the search windows (once the main window exists) and watches
    // their models.
    TForm_Find3& Find3();
    TForm_Find4& Find4();

    // Shows the window, types the query, clicks "Hledej" and waits for the end.
    void Run(TSearchWindow& find, const QString& query);
    // Clicks "Hledej" and waits for the end of the search.
    void StartAndWait(TSearchWindow& find);
    // The lines of the text view as stored, marks included.
    std::vector<std::string> Lines(const TSearchWindow& find) const;
    // The "Adresář" and "Název" of each list row, joined.
    std::vector<std::string> Rows(const TSearchWindow& find) const;
    void DoubleClickLine(TSearchWindow& find, int row);
    // Writes an archive filed under medium / typ into the working folder.
    void WriteFiled(const std::string& file, const std::string& name, const std::string& medium,
                    const std::string& typ, const std::vector<DirSpec>& dirs);

private:
    void Watch(TSearchWindow& find);
    TForm_Find3* find3_ = nullptr;
    TForm_Find4* find4_ = nullptr;
    std::vector<std::unique_ptr<QAbstractItemModelTester>> testers_;
};

// The lines with their match marks taken out.
std::vector<std::string> Unmarked(const std::vector<std::string>& lines);

} // namespace orbisk::test
