// The backends the core talks to, as the start-up code (or a test) installs them.
#include "platform/core/display.h"
#include "platform/core/instance.h"
#include "platform/core/registry_store.h"
#include "platform/core/sound_output.h"
#include "platform/core/text_backend.h"

namespace platform {
namespace {

DisplayBackend* display = nullptr;
InstanceBackend* instanceBackend = nullptr;
RegistryStore* registryStore = nullptr;
SoundOutput* soundOutput = nullptr;
TextBackend* textBackend = nullptr;

}  // namespace

DisplayBackend* CurrentDisplay() { return display; }
void SetDisplay(DisplayBackend* backend) { display = backend; }

InstanceBackend* CurrentInstanceBackend() { return instanceBackend; }
void SetInstanceBackend(InstanceBackend* backend) { instanceBackend = backend; }

RegistryStore* CurrentRegistryStore() { return registryStore; }
void SetRegistryStore(RegistryStore* store) { registryStore = store; }

SoundOutput* CurrentSoundOutput() { return soundOutput; }
void SetSoundOutput(SoundOutput* output) { soundOutput = output; }

TextBackend* CurrentTextBackend() { return textBackend; }
void SetTextBackend(TextBackend* backend) { textBackend = backend; }

}  // namespace platform
