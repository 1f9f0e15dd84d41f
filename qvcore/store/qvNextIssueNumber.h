// Issue numbers from the header field "LASTID", taken and given back under the header lock.
#pragma once

#include "kwcommon/kwSeam.h"

#include <chrono>

class qvNextIssueNumber {
public:
    explicit qvNextIssueNumber(short fileNumber) : _file(fileNumber) {}

    // The next issue number; 0 when the header could not be had (reported).
    double Next();
    // Gives n back when it is still the last number issued.
    void Release(double number);

    // How long a held header is waited for before the user is asked (tests shorten it).
    static kwSeam<std::chrono::milliseconds()>& AskAfterSeam();

    // Reads and locks the header, waiting while another user holds it (re-read at once,
    // then after some seconds the user decides whether to keep waiting). false when it
    // failed (reported) or the user stopped waiting. Also for others who change the header.
    bool LockHeader();

private:
    short _file;
};
