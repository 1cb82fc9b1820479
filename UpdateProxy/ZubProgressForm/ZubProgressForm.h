#pragma once
#include <QObject>
#include <QString>

class QDialog;
class QLabel;
class QProgressBar;
class QWidget;
class ZubCustomTitleDialog;

// The small dialog that shows a component's download and install: a bar, a
// percentage riding above it and a line of text under it, framed by the
// host's custom-titled window. Driven through its slots, usually queued.
class ZubProgressForm : public QObject
{
    Q_OBJECT
public:
    explicit ZubProgressForm(QObject* parent);
    ~ZubProgressForm() override;

    // Builds the window and shows it; a modal run returns once it has closed.
    // `title` is not displayed: the title is fixed.
    void showProgress(const QString& title, const QString& text, bool modal, bool dialogFlag,
                      QWidget* parent);

    // The window while it exists; a modal run leaves it for the owner to free.
    ZubCustomTitleDialog* titleDialog() const;

signals:
    void onNotifyFormClose(int result);

public slots:
    void onClose();
    void updateProgress(QString content, int percentage);
    void endProgress(int r);

private:
    void buildWindow(const QString& text, bool dialogFlag, QWidget* parent);
    void buildContent(const QString& text);

    bool m_bModal;
    QLabel* m_pContentLabel;
    QProgressBar* m_pProgressBar;
    QLabel* m_pPercentLabel;
    QDialog* m_pShowWindow;
    ZubCustomTitleDialog* m_pTitleDialog;
};
