#include "gui/db/TForm_DB_HTML.h"

#include <QCollator>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "core/catalog/ProgramValues.h"
#include "core/db/Database.h"
#include "core/db/TemplateExport.h"
#include "gui/common/Dialogs.h"
#include "gui/common/Named.h"
#include "gui/common/Shell.h"
#include "gui/common/Text.h"

namespace orbisk {

namespace {

QLabel* HiddenLabel(const char* name, const char* text) {
    auto* label = Named(new QLabel(QString::fromUtf8(text)), name);
    label->hide();
    return label;
}

QString ProgramFolder() {
    return QFile::decodeName(QByteArray::fromStdString(Program().ProgramDir));
}

} // namespace

TForm_DB_HTML::TForm_DB_HTML(QWidget* parent)
    : QDialog(parent), Label_Vzor(Named(new QLabel(QStringLiteral("Vzor:")), "Label_Vzor")),
      ComboBox(Named(new QComboBox, "ComboBox")),
      Button_OK(Named(new QPushButton(QStringLiteral("OK")), "Button_OK")),
      Button_Zobraz(Named(new QPushButton(QStringLiteral("Zobraz")), "Button_Zobraz")),
      Memo(Named(new QPlainTextEdit, "Memo")),
      LabelT1(HiddenLabel("LabelT1", "Šablona pro export nebyla nalezena.")),
      LabelT2(HiddenLabel("LabelT2", "Exportuji ...")),
      LabelT3(HiddenLabel("LabelT3", "Export dokončen.")),
      LabelT4(HiddenLabel("LabelT4", "Zobrazení pomocí výchozího webového prohlížeče")),
      LabelT5(HiddenLabel("LabelT5", "Soubor nebyl zapsán.")) {
    setObjectName(QStringLiteral("Form_DB_HTML"));
    setWindowTitle(QString::fromUtf8(kDbHtmlCaption));
    setModal(true);
    ComboBox->setEditable(true);
    ComboBox->setInsertPolicy(QComboBox::NoInsert);
    ComboBox->setMinimumWidth(240);
    Label_Vzor->setBuddy(ComboBox);
    Memo->setReadOnly(true);
    Button_Zobraz->setEnabled(false);
    Button_OK->setDefault(true);

    auto* choice = new QHBoxLayout;
    choice->addWidget(Label_Vzor);
    choice->addWidget(ComboBox, 1);
    choice->addWidget(Button_OK);
    choice->addWidget(Button_Zobraz);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(choice);
    layout->addWidget(Memo, 1);
    for (QLabel* hidden : {LabelT1, LabelT2, LabelT3, LabelT4, LabelT5})
        layout->addWidget(hidden);
    resize(480, 260);

    connect(Button_OK, &QPushButton::clicked, this, &TForm_DB_HTML::ExportCommand);
    connect(Button_Zobraz, &QPushButton::clicked, this, &TForm_DB_HTML::ShowCommand);
}

void TForm_DB_HTML::Execute(TDatabase& db, const QString& folder) {
    db_ = &db;
    folder_ = folder;
    exec();
    db_ = nullptr;
}

void TForm_DB_HTML::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    Activate();
}

void TForm_DB_HTML::Activate() {
    Memo->clear();
    Button_Zobraz->setEnabled(false);
    ComboBox->clear();
    ComboBox->setEditText(QString());
    QStringList names =
        QDir(ProgramFolder())
            .entryList({QStringLiteral("*.tpl")}, QDir::Files | QDir::Hidden | QDir::System);
    QCollator collator;
    std::sort(names.begin(), names.end(), [&collator](const QString& a, const QString& b) {
        return collator.compare(a, b) < 0;
    });
    ComboBox->addItems(names);
    if (!names.isEmpty()) ComboBox->setCurrentIndex(0);
}

void TForm_DB_HTML::Log(const QLabel* label) {
    Memo->appendPlainText(label->text());
}

void TForm_DB_HTML::ExportCommand() {
    Button_Zobraz->setEnabled(false);
    if (!db_) return;
    const QString name = ComboBox->currentText();
    const QString templatePath = QDir(ProgramFolder()).filePath(name);
    if (name.isEmpty() || !QFileInfo(templatePath).isFile()) {
        Log(LabelT1);
        return;
    }
    // A file path as the start proposes its name in the folder.
    const QString out = Dialogs::SaveFile(
        this, {windowTitle(), QDir(folder_).filePath(QString::fromLatin1(kDbPageName)),
               QStringLiteral("html (*.html);;html (*.htm)"), QStringLiteral("html")});
    if (out.isEmpty()) return;
    Log(LabelT2);
    QCollator collator;
    const TTextCompare compare = [&collator](std::string_view a, std::string_view b) {
        return collator.compare(DecodeText(a), DecodeText(b));
    };
    const TExportStatus status =
        ExportDatabase(db_->MutableArch(), QFile::encodeName(templatePath).toStdString(),
                       QFile::encodeName(out).toStdString(), compare);
    switch (status.Result) {
    case TExportResult::Exported:
        page_ = out;
        Log(LabelT3);
        Button_Zobraz->setEnabled(true);
        break;
    case TExportResult::TemplateMissing:
        Log(LabelT1);
        break;
    case TExportResult::NotWritten:
        Log(LabelT5);
        break;
    }
}

void TForm_DB_HTML::ShowCommand() {
    if (page_.isEmpty()) return;
    Shell::OpenFile(page_);
    Log(LabelT4);
}

} // namespace orbisk
