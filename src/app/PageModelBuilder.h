#pragma once
// The one place where a page's model is put together from a record and the settings.
// The window then adds the layout in effect, its side panel's options and the
// interaction state; ledora-render adds the layout the record stores.
#include "app/Settings.h"
#include "page/PageModel.h"
#include "records/Dataset.h"

page::PageModel PageModelFrom(const Dataset& record, const Settings& settings);
