# The setup's clean-up program: runs for a moment after the setup has ended.
sleep "${seconds:-1.5}"
exit 0
