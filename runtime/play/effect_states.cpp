#include "runtime/play/effect_states.h"

#include <cassert>
#include <cstring>

namespace glimmerq {

namespace {

class SavingArchive : public CStateArchive {
public:
    explicit SavingArchive(std::vector<unsigned char>* bytes) : bytes_(bytes) {}
    void Bytes(void* data, size_t size) override {
        const auto* p = static_cast<const unsigned char*>(data);
        bytes_->insert(bytes_->end(), p, p + size);
    }

private:
    std::vector<unsigned char>* bytes_;
};

class RestoringArchive : public CStateArchive {
public:
    explicit RestoringArchive(const std::vector<unsigned char>& bytes) : bytes_(bytes) {}
    void Bytes(void* data, size_t size) override {
        assert(read_ + size <= bytes_.size() && "a snapshot restored into other effects");
        std::memcpy(data, bytes_.data() + read_, size);
        read_ += size;
    }
    bool allRead() const { return read_ == bytes_.size(); }

private:
    const std::vector<unsigned char>& bytes_;
    size_t read_ = 0;
};

}  // namespace

EffectStates::EffectStates(const std::vector<RegisteredEffect>& effects) {
    for (const RegisteredEffect& e : effects) stateful_.push_back(dynamic_cast<CEffectState*>(e.effect));
}

EffectStates::Snapshot EffectStates::save() const {
    Snapshot snapshot(stateful_.size());
    for (size_t i = 0; i < stateful_.size(); ++i) {
        if (!stateful_[i]) continue;
        SavingArchive archive(&snapshot[i]);
        stateful_[i]->KeepState(archive);
    }
    return snapshot;
}

void EffectStates::restore(const Snapshot& snapshot) const {
    assert(snapshot.size() == stateful_.size() && "a snapshot restored into other effects");
    for (size_t i = 0; i < stateful_.size(); ++i) {
        if (!stateful_[i]) continue;
        RestoringArchive archive(snapshot[i]);
        stateful_[i]->KeepState(archive);
        assert(archive.allRead() && "an effect kept other fields than it saved");
    }
}

size_t EffectStates::bytesOf(const Snapshot& snapshot) {
    size_t bytes = 0;
    for (const auto& s : snapshot) bytes += s.size() + sizeof s;
    return bytes;
}

}  // namespace glimmerq
