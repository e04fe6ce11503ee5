#pragma once
// The pauses the session keeps, in milliseconds: around the write jobs, between TCP requests, and
// how long a request may go unanswered.
// The defaults are the program's; unit tests may shorten them, tests against real peers keep
// them.
namespace vantor {

struct SessionDelays {
    int oneShotPauseMs = 100;   // before and after a one-shot write
    int blockWriteLeadMs = 100; // before the first frame of a block write
    int blockWriteGapMs = 1000; // after each frame of a block write
    int pageWriteLeadMs = 200;  // before a page write
    int pageWriteTailMs = 500;  // after a page write
    int tcpIntervalMs = 1000;   // between TCP requests
    // A polled request unanswered this long (and until the next request to its packet) counts
    // as no reply; no request goes out while a reply is still arriving for longer than this.
    int replyTimeoutMs = 1000;
};

} // namespace vantor
