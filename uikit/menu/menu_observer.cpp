#include "uikit/menu/menu_observer.h"

namespace UiKit {

ContextMenuObserver& GetContextMenuObserver() {
    static ContextMenuObserver observer;
    return observer;
}

}  // namespace UiKit
