#include "gfx/layer.h"

#include "gfx/layer_surface.h"
#include "gfx/resource_count.h"

namespace gfx {

Layer::Layer() : surface_(std::make_shared<Surface>()) { countResource(Resource::Layer); }
Layer::~Layer() = default;

bool Layer::inUse() const { return surface_->inUse; }

} // namespace gfx
