// ReleaseAndClear: gives back a COM interface held in a variable and empties the variable.
#pragma once

template <typename T> void ReleaseAndClear(T*& object) {
    if (object != nullptr) {
        object->Release();
        object = nullptr;
    }
}
