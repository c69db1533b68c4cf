// Placeholder until the machine backend lands.
