// The editor-view interfaces are declared with their ids in the SDK headers, but no
// source of the installed SDK defines the id objects, so anything that refers to them
// (the SDK's plug-in view and edit controller do) would fail to link without this file.

#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"

namespace Steinberg
{

DEF_CLASS_IID(IPlugView)
DEF_CLASS_IID(IPlugFrame)
DEF_CLASS_IID(IPlugViewContentScaleSupport)

#if SMTG_OS_LINUX
// Linux hosts hand their run loop to the view; these exist only there.
namespace Linux
{
DEF_CLASS_IID(IRunLoop)
DEF_CLASS_IID(IEventHandler)
DEF_CLASS_IID(ITimerHandler)
} // namespace Linux
#endif

} // namespace Steinberg
