#pragma once
// The notice window shown beside the main window after the login.
#include <QString>
#include <QWidget>

class QTextEdit;
class QPushButton;

namespace vendra {

// The text to show from the notice for all grades (n1) and the one for the orderer's grade (n2).
QString CombineNotices(const QString& n1, const QString& n2);

class Notice : public QWidget {
    Q_OBJECT
public:
    explicit Notice(QWidget* parent = nullptr);

    void setText(const QString& text);
    // The text as given, line breaks included as they came.
    QString text() const { return text_; }

    QTextEdit* Text1;
    QPushButton* Command1;

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    QString text_;
};

}  // namespace vendra
