#pragma once
// The commands of vx8cli, each giving its exit status.

#include <atomic>

#include "cli/CliOptions.h"
#include "cli/DeviceSession.h"
#include "cli/Output.h"

// Set by Ctrl+C; long work ends between two steps.
extern std::atomic<bool> gInterrupted;

int RunPorts(const TOutput& out);
int RunStatus(const TCliOptions& o, TDeviceSession& session, const TOutput& out);
int RunRead(const TCliOptions& o, TDeviceSession& session, const TOutput& out);
int RunWrite(const TCliOptions& o, TDeviceSession& session, const TOutput& out);
int RunDiff(const TCliOptions& o, TDeviceSession& session, const TOutput& out);
int RunRestore(const TCliOptions& o, TDeviceSession& session, const TOutput& out);
int RunFlash(const TCliOptions& o, TDeviceSession& session, const TOutput& out);
int RunProvision(const TCliOptions& o, TDeviceSession& session, const TOutput& out);
