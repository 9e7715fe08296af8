// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// One conversion job. The status travels from the worker threads to the
// window through queued signals, so it is registered with the meta-type
// system under its qualified name "FFmpegTask::ConvertStatus" at start-up.
class FFmpegTask
{
public:
    enum ConvertStatus {
        Pending,    // in the table, not yet reported by a task
        Converting, // the encoder is about to run
        Failed,
        Skipped,
        Done,
    };
};
