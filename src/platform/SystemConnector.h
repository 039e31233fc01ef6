#pragma once

#include "core/ProbeConnection.h"

#include <memory>

// The probe connections of the system the program runs on.
std::unique_ptr<ProbeConnector> createSystemConnector();
