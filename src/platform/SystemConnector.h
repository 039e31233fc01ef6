// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/ProbeConnection.h"

#include <memory>

// The probe connections of the system the program runs on.
std::unique_ptr<ProbeConnector> createSystemConnector();
