// The bank register REGISTER.CMT as the 7.0.0 conversion of the issue record reads it:
// opened through the file control's folder for "CMT", refused while named files are on or
// while the register's data is older than 7.0.0, and searched by bank account and check
// number (key 6). Every failure is reported through the caller's report function, in the
// words the upgrade host shows, and answered as a status.
#pragma once

#include "kwcommon/kwSeam.h"
#include "kwcommon/xio.h"

#include <functional>
#include <string>

class qvBankRegister {
public:
    using Report = std::function<void(const std::string& message)>;
    // How the register is opened: xio_open_file, unless a test stands in with statuses
    // this platform cannot make (a missing drive, an operator the company does not
    // authorise): OpenSeam().Replace(...) while its guard lives.
    static kwSeam<short(const xio_open_def& def, short* fileNumber)>& OpenSeam();

    explicit qvBankRegister(Report report);
    ~qvBankRegister();
    qvBankRegister(const qvBankRegister&) = delete;
    qvBankRegister& operator=(const qvBankRegister&) = delete;

    // 0 open; 1 named files on or the register's data older than 7.0.0; else the status
    // of the failed open. The reason is reported.
    short Open();
    // The transaction of a check: 0 found (run and sequence set), 10 no such check, or the
    // status of a failed read (reported).
    short FindCheck(const std::string& bank, double check, double* run, double* sequence);
    void Close();

    // The message for a failed open's status.
    static std::string OpenFailureText(short status);

private:
    Report _report;
    short _file = 0;
};
