#pragma once

#include <QDialog>
#include <QStringList>

#include <vector>

class QCheckBox;
class QDialogButtonBox;

namespace app {

// "File Types": which package extensions Add Folder and dropped folders take. At least one stays
// chosen.
class FileTypesDialog : public QDialog
{
    Q_OBJECT

public:
    FileTypesDialog(const QStringList& chosen, QWidget* parent = nullptr);

    [[nodiscard]] QStringList chosen() const;

private:
    void updateOkButton();

    std::vector<QCheckBox*> m_boxes;
    QDialogButtonBox* m_buttons = nullptr;
};

} // namespace app
