#pragma once
// The snapshot as JSON for programs: every field of the page, units in the names.

#include <QByteArray>

#include "status/status_snapshot.h"

namespace vireo {

QByteArray StatusJson(const StatusSnapshot& status);

}  // namespace vireo
