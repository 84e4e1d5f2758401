#pragma once

#include <QDialog>
#include <QPointer>

class QButtonGroup;
class QLabel;
class QListWidget;
class QPushButton;

namespace velumark {
class DeviceBrowser;
struct TransferAlert;
} // namespace velumark

namespace velumark::gui {

// The import or export window of the device transfer: the devices found on the local network,
// the message of the display rules and the action button they enable, kept current as devices
// come and go; then the progress window while the database moves, and the alert at the end.
class DeviceWindow : public QDialog
{
    Q_OBJECT
public:
    // The browser lives for the run; the window starts its search and ends it when it closes.
    DeviceWindow(DeviceBrowser &browser, bool import, QWidget *parent);
    ~DeviceWindow() override;

    void present();
    void actionButtonPressed();

    QListWidget *deviceTable() const { return m_deviceTable; }
    QString messageShown() const;

    // Failure alerts wait this long after the progress window has gone.
    static constexpr int kFailureAlertDelayMs = 1000;

private:
    void buildInterface();
    void refreshDisplay();
    void followTransfer();

    DeviceBrowser &m_browser;
    // The browser may go first when the application ends with the window still waiting to be deleted.
    QPointer<DeviceBrowser> m_browserAlive;
    const bool m_import;
    QListWidget *m_deviceTable;
    QLabel *m_messages;
    QButtonGroup *m_importOptions = nullptr;
    QPushButton *m_actionButton = nullptr;
};

} // namespace velumark::gui
