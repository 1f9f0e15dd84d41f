// The start-up window: the program's name, version and company while the frame is made.
// It closes itself once the main window is up (or after a few seconds) and deletes itself,
// so the code that shows it need not keep it.
#pragma once

#include <QSplashScreen>

class kwSplashScreen : public QSplashScreen {
    Q_OBJECT
public:
    kwSplashScreen();
    ~kwSplashScreen() override;

    // The picture shown: name, version, company.
    static QPixmap Picture(const QString& name, const QString& version, const QString& company);

private:
    void Poll();
    int _elapsedMs = 0;
};
