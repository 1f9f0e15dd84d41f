// Rights come from the data library's reading of the company's operators file, which is
// read again whenever it changes: an administrator changing them takes effect at the next
// check, without restarting the program.
#include "kwapp/app/xs_option_allowed.h"

#include "kwcommon/xs.h"

short xs_option_allowed(short command, const char* application) {
    if (!xs_security_on()) return 1;
    xs_oper_def oper{};
    if (xs_get_oper_def(&oper) != 0) return 0;
    if (oper.privilege == 1) return 1;
    return xs_command_denied(oper.id, application ? application : "", command) ? 0 : 1;
}
