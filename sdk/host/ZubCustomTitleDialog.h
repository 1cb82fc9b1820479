#pragma once
#include "ZubHostExport.h"
#include <QDialog>
#include <QWidget>

class QLabel;
class QToolButton;
class ITovUIService;

class ZUB_CONTROL_EXPORT TovProjectCustomTitleBar : public QWidget
{
    Q_OBJECT
public:
    explicit TovProjectCustomTitleBar(QWidget* parent = nullptr);
    QLabel* getWindowTitleLabel() const;
    QToolButton* getCloseButton() const;

signals:
    void closeClicked();

protected:
    QLabel* m_pTitleLabel;
    QToolButton* m_pQueryClose;
};

class ZUB_CONTROL_EXPORT ZubCustomTitleBar : public TovProjectCustomTitleBar
{
    Q_OBJECT
public:
    explicit ZubCustomTitleBar(QWidget* parent = nullptr);
};

// A frameless window with the suite's own title bar.
class ZUB_CONTROL_EXPORT ZubCustomTitleFrame : public QDialog
{
    Q_OBJECT
public:
    explicit ZubCustomTitleFrame(QWidget* parent = nullptr,
                                 Qt::WindowFlags flags = Qt::WindowFlags());
    ZubCustomTitleBar* getTitleBarFrame() const;
    // Emits closeFrame() when a shown window finishes.
    void done(int result) override;

signals:
    void closeFrame();

protected:
    ZubCustomTitleBar* m_pTitleBar;
};

// Frames an inner dialog under the title bar and runs it.
class ZUB_CONTROL_EXPORT ZubCustomTitleDialog : public ZubCustomTitleFrame
{
    Q_OBJECT
public:
    ZubCustomTitleDialog(QWidget* parent, Qt::WindowFlags flags, bool resizable, bool maximizable,
                         bool isDialog, ITovUIService* uiService, bool minimizable, bool showIcon,
                         bool closable);
    ~ZubCustomTitleDialog() override;

    void addDialog(QDialog* dialog, const QString& title);
    // Runs the window modally until the added dialog has finished.
    int dialogExec();
    QDialog* innerDialog() const;
    // Closing the window rejects the added dialog, which then ends the window.
    void reject() override;

private:
    QDialog* m_pInnerDialog = nullptr;
};
