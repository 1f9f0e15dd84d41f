// Multi-line fields of the New Issue pages hold record fields of a fixed width counted in
// bytes of UTF-8; this keeps a plain-text field within such a width as the user types or
// pastes, the way the suite's one-line field does.
#pragma once

class QPlainTextEdit;

// 0 or less: no limit. The limit is kept until the field goes away.
void niLimitTextBytes(QPlainTextEdit* edit, int bytes);
