#pragma once
// Stopping and restarting the drive's scope stream around an exchange that
// needs a clean port. Both do nothing unless the scope is scanning or
// waiting for a trigger; every pause is matched by one resume. Pauses nest:
// only the outermost pair stops and restarts the stream.

// Writes 0 to the channel-select register (no wait) and suspends the
// acquisition worker.
void ScopePause();
// Writes the channel mask back (no wait) and resumes the worker, keeping the
// receive buffer as it was: it holds the caller's reply.
void ScopeResume();

// Holds the stream paused for the life of the object: a view's exchange on
// the shared port runs inside one.
class StreamPause {
public:
    StreamPause() { ScopePause(); }
    ~StreamPause() { ScopeResume(); }
    StreamPause(const StreamPause&) = delete;
    StreamPause& operator=(const StreamPause&) = delete;
};

// Ends a running acquisition before the port changes hands (a reconnect,
// the scope window closing): clears the three run flags, parks the worker
// at its gate so it no longer touches the port, and stops the drive's
// stream. True when any run flag was set.
bool ScopeHaltAcquisition();
