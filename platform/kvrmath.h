// The math, colour and data-structure library: everything the chart units include.
#pragma once

#include "platform/univconst.h"
#include "platform/math1.h"
#include "platform/matrix.h"
#include "platform/kvrvector.h"
#include "platform/datatable.h"
#include "platform/kvrcolors.h"
#include "platform/streams.h"
#include "platform/stringl.h"
#include "platform/numtext.h"
#include "platform/datetime.h"
