#include "gui/settings/TForm_About.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextDocument>
#include <QVBoxLayout>
#include <algorithm>

#include "gui/common/Named.h"
#include "gui/mainwin/MainHelpHandler.h"
#include "gui/mainwin/TForm_Main.h"

namespace orbisk {

namespace {

// What the program does, one feature a line.
constexpr const char* kFeaturesCz = "Prohlížení obsahu CD a disků bez mechaniky\n"
                                    "Vytváření archivů médií včetně obsahu souborů ZIP a RAR\n"
                                    "Načítání všech souborů, jen adresářů nebo vybraných typů\n"
                                    "Mazání položek uvnitř archivů\n"
                                    "Hledání v archivech\n"
                                    "Export archivů do HTML\n"
                                    "Bez externího databázového stroje\n"
                                    "Databáze umístění souborů, export do HTML podle šablony\n"
                                    "Změna jazyka za běhu programu";
constexpr const char* kFeaturesEn = "Browsing the contents of CDs and disks without the drive\n"
                                    "Archives of media, including the contents of ZIP and RAR\n"
                                    "Scanning all files, only folders or only chosen types\n"
                                    "Deleting entries inside archives\n"
                                    "Searching the archives\n"
                                    "HTML export of archives\n"
                                    "No external database engine\n"
                                    "Database of where files lie, HTML export by a user template\n"
                                    "Changing the language while the program runs";

QPlainTextEdit* FeaturePane(const char* name, const char* features) {
    auto* pane = Named(new QPlainTextEdit(QString::fromUtf8(features)), name);
    pane->setReadOnly(true);
    pane->setLineWrapMode(QPlainTextEdit::NoWrap);
    // Tall enough for every line, wide enough for the longest.
    const QFontMetrics metrics(pane->font());
    const int frame =
        2 * (pane->frameWidth() + static_cast<int>(pane->document()->documentMargin()));
    int width = 0;
    const QStringList lines = pane->toPlainText().split(QLatin1Char('\n'));
    for (const QString& line : lines)
        width = std::max(width, metrics.horizontalAdvance(line));
    pane->setMinimumWidth(width + frame + metrics.averageCharWidth() * 6);
    pane->setFixedHeight(metrics.lineSpacing() * static_cast<int>(lines.size() + 2) + frame);
    return pane;
}

} // namespace

TForm_About::TForm_About(QWidget* parent)
    : QDialog(parent), Label_Product(Named(new QLabel, "Label_Product")),
      Memo_CZ(FeaturePane("Memo_CZ", kFeaturesCz)), Memo_EN(FeaturePane("Memo_EN", kFeaturesEn)),
      Button_WWW(Named(new QPushButton(QStringLiteral("Program WWW Home Page")), "Button_WWW")),
      Button_OK(Named(new QPushButton(QStringLiteral("OK")), "Button_OK")) {
    setObjectName(QStringLiteral("Form_About"));
    setWindowTitle(QString::fromUtf8(kAboutTitle));
    setModal(true);
    // The product line is the main window's caption without its padding.
    Label_Product->setText(QString::fromUtf8(kMainCaption).simplified());
    QFont large = Label_Product->font();
    large.setBold(true);
    large.setPointSizeF(large.pointSizeF() * 1.5);
    Label_Product->setFont(large);
    Button_OK->setDefault(true);

    auto* panes = new QHBoxLayout;
    panes->addWidget(Memo_CZ);
    panes->addWidget(Memo_EN);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Button_WWW);
    buttons->addStretch(1);
    buttons->addWidget(Button_OK);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label_Product);
    layout->addLayout(panes);
    layout->addLayout(buttons);
    setFixedSize(sizeHint());

    connect(Button_WWW, &QPushButton::clicked, this, &MainHelpHandler::HomePageCommand);
    connect(Button_OK, &QPushButton::clicked, this, &QDialog::accept);
}

} // namespace orbisk
