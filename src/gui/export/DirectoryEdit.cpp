#include "gui/export/DirectoryEdit.h"

#include <QDir>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QStyle>
#include <QToolButton>

#include "gui/common/Dialogs.h"

namespace orbisk {

DirectoryEdit::DirectoryEdit(QString title, QWidget* parent)
    : QWidget(parent), Edit(new QLineEdit), Button(new QToolButton), title_(std::move(title)) {
    Edit->setReadOnly(true);
    Edit->setObjectName(QStringLiteral("Edit"));
    Button->setObjectName(QStringLiteral("Button"));
    Button->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    Button->setToolTip(title_);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(Edit, 1);
    layout->addWidget(Button);
    connect(Button, &QToolButton::clicked, this, &DirectoryEdit::Browse);
}

QString DirectoryEdit::Folder() const {
    return Edit->text();
}

void DirectoryEdit::SetFolder(const QString& folder) {
    const QString clean = QDir::cleanPath(folder);
    if (clean == Edit->text()) return;
    Edit->setText(clean);
    Edit->setCursorPosition(0);
    Edit->setToolTip(clean);
    Q_EMIT FolderChanged(clean);
}

void DirectoryEdit::Browse() {
    FolderRequest request;
    request.title = title_;
    request.start = Folder();
    const QString chosen = Dialogs::ChooseFolder(this, request);
    if (!chosen.isEmpty()) SetFolder(chosen);
}

} // namespace orbisk
