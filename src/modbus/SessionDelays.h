// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The pauses the session keeps, in milliseconds: around the write jobs, and how long a request
// may go unanswered.
// The defaults are the program's; unit tests may shorten them, tests against real peers keep
// them.
namespace vantor {

struct SessionDelays {
    int oneShotPauseMs = 100;   // before and after a one-shot write
    int blockWriteLeadMs = 100; // before the first frame of a block write
    int blockWriteGapMs = 1000; // after each frame of a block write
    int pageWriteLeadMs = 200;  // before a page write
    int pageWriteTailMs = 500;  // after a page write
    // A request unanswered this long counts as no reply (from the end of its frame on a serial
    // line); no other request goes out before.
    int replyTimeoutMs = 1000;
};

} // namespace vantor
