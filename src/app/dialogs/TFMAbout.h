#pragma once

#include <QDialog>

class QLabel;

namespace app {

// The About box: the program's title, the maker's notice, links to its web page and mail, and OK.
class TFMAbout : public QDialog
{
    Q_OBJECT

public:
    explicit TFMAbout(QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLabel* m_title = nullptr;
};

} // namespace app
