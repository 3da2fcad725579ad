// The eleven exports answered by this module itself, on its application object.
#pragma once

#include "dll/export_layout.h"

extern const export_layout::ExportTable kLocalExports;
