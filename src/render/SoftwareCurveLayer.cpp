#include "SoftwareCurveLayer.h"

#include "CurveBuffers.h"
#include "CurveControls.h"
#include "DefaultFramebuffer.h"
#include "FrameBuffer.h"

#include <GL/glew.h>

#include <cstdlib>
#include <cstring>
#include <iostream>
#include <new>
#include <string>

SoftwareCurveLayer::Choice SoftwareCurveLayer::choiceFromEnvironment() {
    const char* value = std::getenv("RAMIFLEX_CURVES");
    const std::string choice = value ? value : "";
    if (choice == "cpu") return Choice::CPU;
    if (choice == "gpu") return Choice::GPU;
    return Choice::AUTOMATIC;
}

bool SoftwareCurveLayer::softwareRenderer() {
    const auto* name = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    return name && (std::strstr(name, "llvmpipe") || std::strstr(name, "softpipe"));
}

bool SoftwareCurveLayer::inUse() {
    if (m_choice != Choice::AUTOMATIC) return m_choice == Choice::CPU;
    if (m_decided < 0) m_decided = softwareRenderer() ? 1 : 0;
    return m_decided == 1;
}

void SoftwareCurveLayer::reset() {
    m_samplers[0].reset();
    m_samplers[1].reset();
    m_samplerControls = nullptr;
    m_raster.reset();
}

const CurveSampler& SoftwareCurveLayer::sampler(const CurveControls& controls, bool draft) {
    if (m_samplerControls != &controls) {
        m_samplers[0].reset();
        m_samplers[1].reset();
        m_samplerControls = &controls;
    }
    std::unique_ptr<CurveSampler>& sampler = m_samplers[draft ? 1 : 0];
    if (!sampler) {
        // The GL path's sample sets: every sample, or every fifth and the last.
        std::vector<int32_t> samples;
        const int32_t count = controls.sampleCount();
        for (int32_t j = 0; j < count; ++j) {
            if (!draft || j % CurveBuffers::kDraftStep == 0 || j == count - 1) samples.push_back(j);
        }
        sampler = std::make_unique<CurveSampler>(controls, std::move(samples));
    }
    return *sampler;
}

bool SoftwareCurveLayer::begin(const FrameBuffer& scene) {
    const int width = scene.width(), height = scene.height();
    try {
        const size_t pixels = size_t(width) * size_t(height);
        m_scene.resize(4 * pixels);
        m_composed.resize(4 * pixels);
        std::vector<float> depth(pixels);
        glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, scene.m_framebuffer);
        glReadBuffer(GL_COLOR_ATTACHMENT0_EXT);
        glPixelStorei(GL_PACK_ALIGNMENT, 4);
        glReadPixels(0, 0, width, height, GL_RGBA, GL_FLOAT, m_scene.data());
        glReadPixels(0, 0, width, height, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
        bindDefaultFramebuffer();
        if (!m_raster) m_raster = std::make_unique<CurveRaster>();
        m_raster->begin(width, height, std::move(depth));
    } catch (const std::bad_alloc&) {
        std::cerr << "The relation curves of a " << width << " x " << height
                  << " picture do not fit into the memory; they are left out of this frame\n";
        m_raster.reset();
        return false;
    }
    return true;
}

size_t SoftwareCurveLayer::draw(const CurveControls& controls, bool draft, CurveRaster::Draw draw,
                                const std::vector<uint8_t>& curveSlots) {
    if (!m_raster) return draw.first;
    draw.sampler = &sampler(controls, draft);
    draw.curveSlots = &curveSlots;
    return m_raster->draw(draw);
}

void SoftwareCurveLayer::present(const FrameBuffer& scene) {
    if (!m_raster || m_scene.size() != 4 * size_t(scene.width()) * size_t(scene.height())) return;
    m_composed = m_scene;
    m_raster->compose(m_composed.data());
    glBindTexture(GL_TEXTURE_2D, scene.m_colorTextures[0]);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, scene.width(), scene.height(), GL_RGBA, GL_FLOAT,
                    m_composed.data());
    glBindTexture(GL_TEXTURE_2D, 0);
}
