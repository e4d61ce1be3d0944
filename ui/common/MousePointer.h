// The screen's mouse pointer: busy while files load or save, the default arrow otherwise.
#pragma once

namespace trimlet {

void setBusyPointer();
void setDefaultPointer();

}  // namespace trimlet
