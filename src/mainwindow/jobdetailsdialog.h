// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "conversion/jobreport.h"

#include <QDialog>

// What one job reported, whole: its ending and why, the encoder's command
// line and everything of its output that was kept, all of it selectable.
class JobDetailsDialog : public QDialog
{
    Q_OBJECT

public:
    explicit JobDetailsDialog(const JobReport &report, QWidget *parent = nullptr);
};
