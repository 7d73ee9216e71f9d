#include "app/vextile.h"

#include "play/play_record.h"
#include "play/sidebar.h"

Vextile::Vextile() {
    options.flags = 0;
}

Vextile::~Vextile() = default;

void Vextile::change_state(State_Id id) {
    // The old state goes first, so the new one sees the world its destructor left.
    state.reset();
    state.reset(make_state(id));
    play_record.state_id = id;
}
