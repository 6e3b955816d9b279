// Presentation: DirectDraw's picture stretched over a window's client area and shown through SDL.
#include <SDL.h>

#include "ddinternal.h"
#include "platformtest.h"

namespace Layer {

struct Presenter {
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    int width = 0;
    int height = 0;
};

void DestroyPresenter(HWND window) {
    Presenter* presenter = window->presenter;
    if (presenter == nullptr)
        return;
    if (presenter->texture != nullptr)
        SDL_DestroyTexture(presenter->texture);
    if (presenter->renderer != nullptr)
        SDL_DestroyRenderer(presenter->renderer);
    delete presenter;
    window->presenter = nullptr;
}

void ShowFrame(HWND window) {
    if (window->sdlWindow == nullptr)
        return;
    if (window->presenter == nullptr) {
        window->presenter = new Presenter();
        // Synchronised with the display where the renderer can; the software one otherwise.
        window->presenter->renderer = SDL_CreateRenderer(
            window->sdlWindow, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC);
        if (window->presenter->renderer == nullptr)
            window->presenter->renderer =
                SDL_CreateRenderer(window->sdlWindow, -1, SDL_RENDERER_SOFTWARE);
    }
    Presenter& presenter = *window->presenter;
    if (presenter.renderer == nullptr)
        return;
    SDL_SetRenderDrawColor(presenter.renderer, 0, 0, 0, 255);
    SDL_RenderClear(presenter.renderer);
    if (!window->shownPixels.empty()) {
        if (presenter.texture == nullptr || presenter.width != window->shownWidth ||
            presenter.height != window->shownHeight) {
            if (presenter.texture != nullptr)
                SDL_DestroyTexture(presenter.texture);
            presenter.texture = SDL_CreateTexture(presenter.renderer, SDL_PIXELFORMAT_RGB888,
                                                  SDL_TEXTUREACCESS_STREAMING, window->shownWidth,
                                                  window->shownHeight);
            presenter.width = window->shownWidth;
            presenter.height = window->shownHeight;
        }
        if (presenter.texture != nullptr) {
            SDL_UpdateTexture(presenter.texture, nullptr, window->shownPixels.data(),
                              window->shownWidth * 4);
            SDL_Rect target{0, 0, window->shownWidth, window->shownHeight};
            SDL_RenderCopy(presenter.renderer, presenter.texture, nullptr, &target);
        }
    }
    SDL_RenderPresent(presenter.renderer);
}

void PresentToWindow(HWND window, const uint32_t* pixels, int width, int height, int pitch) {
    RECT client = ClientFromOuter(window->outer, window->style);
    int clientWidth = client.right - client.left;
    int clientHeight = client.bottom - client.top;
    if (clientWidth <= 0 || clientHeight <= 0 || width <= 0 || height <= 0)
        return;
    window->shownWidth = clientWidth;
    window->shownHeight = clientHeight;
    window->shownPixels.resize(static_cast<size_t>(clientWidth) * clientHeight);
    std::vector<int> columns(static_cast<size_t>(clientWidth));
    for (int x = 0; x < clientWidth; ++x)
        columns[x] = StretchOffset(x, width, clientWidth);
    for (int y = 0; y < clientHeight; ++y) {
        const uint32_t* sourceRow =
            pixels +
            static_cast<ptrdiff_t>(static_cast<int64_t>(y) * height / clientHeight) * pitch;
        uint32_t* row = window->shownPixels.data() + static_cast<size_t>(y) * clientWidth;
        for (int x = 0; x < clientWidth; ++x)
            row[x] = sourceRow[columns[x]];
    }
    ShowFrame(window);
}

} // namespace Layer

std::vector<uint32_t> PlatformTest::ShownPixels(HWND window, int* width, int* height) {
    if (!Layer::IsLiveWindow(window))
        return {};
    *width = window->shownWidth;
    *height = window->shownHeight;
    return window->shownPixels;
}
