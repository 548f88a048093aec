#include "gfx/layer.h"

#include "gfx/layer_surface.h"

namespace gfx {

Layer::Layer() : surface_(std::make_shared<Surface>()) {}
Layer::~Layer() = default;

bool Layer::inUse() const { return surface_->inUse; }

} // namespace gfx
