// One running program per company: the first start of a program on a company takes a name
// on the D-Bus session bus that is made from the program's abbreviation and the company's
// folder; a later start on the same company finds the name taken, asks its holder to bring
// its window to the front, and ends. A start on another company takes another name and
// runs beside the first. Without a session bus every start runs on its own, quietly.
#pragma once

#include <QObject>
#include <QString>

#include <string>

class kwSingleInstance : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kwsuite.Instance")
public:
    enum class Claim {
        First,          // the name is this program's now
        AlreadyRunning, // another program holds it and was asked to come to the front
        NoAnswer,       // another program holds it but did not answer in time
        NoBus,          // no session bus: nothing to claim
    };
    // The object path the holder answers on.
    static constexpr const char* OBJECT_PATH = "/org/kwsuite/Instance";

    kwSingleInstance();
    ~kwSingleInstance() override;
    kwSingleInstance(const kwSingleInstance&) = delete;
    kwSingleInstance& operator=(const kwSingleInstance&) = delete;

    // The bus name of the program with the abbreviation on the company in folder (the same
    // for every spelling of the folder's path).
    static QString ServiceName(const std::string& abbreviation, const std::string& companyFolder);

    // Takes the name for the company, then gives up a name held for another one; a name
    // that another program holds leaves the one held as it was.
    Claim ClaimFor(const std::string& abbreviation, const std::string& companyFolder);
    // Gives the name up (also done by the destructor and by the end of the process).
    void Release();
    const QString& HeldName() const { return _held; }

public slots:
    // Asked over the bus by a later start: the main window (and a dialog open on it) comes
    // to the front.
    Q_SCRIPTABLE void Raise();

private:
    QString _held;
    bool _objectRegistered = false;
};
