// Opening and reading the bank register for the bank-register conversion.
#include "qvcore/upgrade/qvBankRegister.h"

#include "kwcommon/kwCompany.h"
#include "kwcommon/values/kwVersion.h"
#include "kwcommon/xc_file_control.h"

#include <cstdio>
#include <utility>

namespace {
constexpr const char* kRegisterFile = "REGISTER.CMT";
const kwBase::Version kLowestRegisterVersion(7, 0, 0);

short Field(short file, const char* name) { return xio_num(file, 0, 0, name); }
} // namespace

kwSeam<short(const xio_open_def&, short*)>& qvBankRegister::OpenSeam() {
    static kwSeam<short(const xio_open_def&, short*)> seam;
    return seam;
}

qvBankRegister::qvBankRegister(Report report) : _report(std::move(report)) {}

qvBankRegister::~qvBankRegister() { Close(); }

void qvBankRegister::Close() {
    if (_file) xio_cls_file(_file);
    _file = 0;
}

std::string qvBankRegister::OpenFailureText(short status) {
    switch (status) {
    case XIO_NO_DRIVE: return "The drive does not exist.";
    case XIO_ABSENT: return "REGISTER.CMT was not found.";
    case XIO_LOCKED: return "REGISTER.CMT is in use by another process.";
    case XIO_CORRUPT: return "REGISTER.CMT is corrupt.";
    case XIO_NOT_AUTHORISED: return "The current operator is not authorized to open the REGISTER.CMT.";
    default: return "REGISTER.CMT could not be opened due to unexpected I/O error.";
    }
}

short qvBankRegister::Open() {
    Close();
    xc_file_control_def control{};
    const bool controlled = xc_get_file_control_def("CMT", &control) == XIO_OK;
    if (controlled && control.namedFiles) {
        _report("CMT named files must be disabled before upgrading the QVI file.");
        return 1;
    }
    // No folder of its own: the register lies in the company folder, as every data file
    // without a file control does.
    const std::string folder = controlled && control.path[0] ? control.path : kwCompany::Folder();
    xio_open_def def{};
    std::snprintf(def.abbrev, sizeof def.abbrev, "%s", "CMT");
    std::snprintf(def.path, sizeof def.path, "%s/%s", folder.c_str(), kRegisterFile);
    def.readOnly = 1; // only read: the conversion of the issues never changes the register
    short file = 0;
    const short status = OpenSeam() ? OpenSeam()(def, &file) : xio_open_file(&def, &file);
    if (status != XIO_OK) {
        if (file) xio_cls_file(file);
        _report(OpenFailureText(status));
        return status;
    }
    _file = file;
    xio_def info{};
    xio_get_def(_file, &info, 0);
    const kwBase::Version version(info.fileVersion[0] ? info.fileVersion : info.dataVersion);
    if (version < kLowestRegisterVersion) {
        Close();
        _report("REGISTER.CMT must be upgraded before upgrading the QVI file.");
        return 1;
    }
    return XIO_OK;
}

short qvBankRegister::FindCheck(const std::string& bank, double check, double* run, double* sequence) {
    xio_clr_record(_file, 1);
    const x_value_def bankValue = x_value_def::OfText(bank);
    const x_value_def checkValue = x_value_def::OfNumber(check);
    xio_put_field(_file, 0, Field(_file, "TBNKACC"), &bankValue);
    xio_put_field(_file, 0, Field(_file, "TCHECK"), &checkValue);
    const short status = xio_rd_record(_file, 1, 6, 0);
    if (status == XIO_NO_RECORD) return status;
    if (status != XIO_OK) {
        // A register that cannot be read is no proof that the check is missing: the
        // conversion stops rather than drop the issue.
        _report(status == XIO_LOCKED || status == XIO_CORRUPT || status == XIO_NOT_AUTHORISED
                    ? OpenFailureText(status)
                    : "REGISTER.CMT could not be read due to unexpected I/O error.");
        return status;
    }
    x_value_def value;
    xio_get_field(_file, 0, Field(_file, "TRUN"), &value);
    *run = value.AsNumber();
    xio_get_field(_file, 0, Field(_file, "TSEQ"), &value);
    *sequence = value.AsNumber();
    return XIO_OK;
}
