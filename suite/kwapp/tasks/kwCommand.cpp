// Out-of-line destructor so the class has one home for its type information.
#include "kwapp/tasks/kwCommand.h"

kwCommand::~kwCommand() = default;
