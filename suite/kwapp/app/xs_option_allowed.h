// The suite's operator-rights check for one command of an application.
//
// With operator security off every operator may use every command. With it on, a
// privileged operator may use everything; an operator the company does not know may use
// nothing; any other operator may use every command except those listed for the
// application under "denied" in the operator's entry of operators.json:
//   { "id": "DANA", ..., "denied": { "QV": [7010, 7020] } }
#pragma once

// 1 when the current operator may use command `command` of application `application`
// (its two-letter code), else 0.
short xs_option_allowed(short command, const char* application);
