"""The main job: show what kelmon offers (classification of the bundled example follows once it lands)."""

import kelmon

print(f"kelmon {kelmon.__version__}")
for name in kelmon.__all__:
    obj = getattr(kelmon, name)
    if callable(obj) and not isinstance(obj, type):
        try:
            obj()  # probe availability without arguments
        except NotImplementedError:
            state = "not available yet"
        except TypeError:
            state = "available"
        print(f"  {name:50s} {state}")
