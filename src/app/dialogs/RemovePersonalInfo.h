#pragma once

#include <QDialog>

#include <cstddef>
#include <vector>

class QCheckBox;

namespace app {

// Asks which of the six properties that name people or their folders to clear: Creator,
// LastModifiedBy, Company, Manager, LastPrinted and Template, all checked at first.
class RemovePersonalInfoDialog : public QDialog
{
    Q_OBJECT

public:
    explicit RemovePersonalInfoDialog(QWidget* parent = nullptr);

    // The catalogue indexes of the checked properties.
    [[nodiscard]] std::vector<std::size_t> chosenProperties() const;

private:
    std::vector<QCheckBox*> m_boxes;
};

} // namespace app
