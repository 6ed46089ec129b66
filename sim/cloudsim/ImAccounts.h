#pragma once
// Keeps the IM server's accounts in step with the database. Handlers call Sync after committing a
// change that adds or removes users or cameras or changes who sees which camera.
namespace cloudsim {

class ImAccounts {
public:
    virtual ~ImAccounts() = default;
    virtual void Sync() = 0;
};

// When no IM server is attached (tests of the HTTP side alone).
class NoImAccounts : public ImAccounts {
public:
    void Sync() override {}
};

}  // namespace cloudsim
