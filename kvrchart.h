// Everything of the library in one include: the drawing surface, the control model, the
// base and math libraries, the framework services and every chart component.
//
//   #include "kvrchart.h"
//
// The Qt host is not included; it needs Qt: #include "hosts/qt/qthost.h".
#pragma once

// Drawing surface, window-control model, base and math libraries.
#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "platform/control.h"
#include "platform/kvrbase.h"
#include "platform/kvrmath.h"
#include "platform/svgcanvas.h"
#include "platform/pdfcanvas.h"

// Framework services: Screen() and Application(), Printer(), Clipboard(), MessageDlg
// and its handler, visual styles, the component palette.
#include "platform/clipbrd.h"
#include "platform/dialogs.h"
#include "platform/forms.h"
#include "platform/printers.h"
#include "platform/registry.h"
#include "platform/themes.h"

// Components.
#include "scale/scale.h"
#include "zuvado/zuvado.h"
#include "zuvado/feed.h"
#include "colorscale/colorscale.h"
#include "gauge/gauge.h"
#include "contour/contourplot.h"
#include "smith/smithchart.h"
#include "boxplot/boxplot.h"
#include "plot3d/plot3d.h"
#include "rot3d/rot3d.h"
