#include "state/view_state.h"

constinit ViewState viewState{};
