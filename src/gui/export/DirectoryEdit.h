#pragma once
// A folder chooser that cannot be typed into: the folder shown in a
// read-only field and a button that browses for another (through Dialogs).
#include <QString>
#include <QWidget>

class QLineEdit;
class QToolButton;

namespace orbisk {

class DirectoryEdit : public QWidget {
    Q_OBJECT
public:
    explicit DirectoryEdit(QString title, QWidget* parent = nullptr);

    QString Folder() const;
    // Shows folder; emits FolderChanged when it differs from the one shown.
    void SetFolder(const QString& folder);
    // The folder dialog, starting at the folder shown.
    void Browse();

    QLineEdit* Edit;
    QToolButton* Button;

Q_SIGNALS:
    void FolderChanged(const QString& folder);

private:
    QString title_;
};

} // namespace orbisk
